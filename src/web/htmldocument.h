#pragma once

#include "web/htmlelement.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QUrl>
#include <memory>
#include <vector>

typedef struct GumboInternalOutput GumboOutput;
class GumboArena;
class HtmlForm;

// A parsed page: the element tree, its forms with their fields' current values, links,
// and the body text. Built from a download or by the headless browser; used on one
// thread at a time. No script runs.
class HtmlDocument
{
public:
    // `html` is the decoded page; `charset` is the one form data is sent in.
    explicit HtmlDocument(const QString& html, const QUrl& url = QUrl(),
                          const QByteArray& charset = "utf-8");
    ~HtmlDocument();

    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    // Decodes `body` from the charset its Content-Type or meta tag declares, then parses.
    static std::unique_ptr<HtmlDocument>
    fromBytes(const QByteArray& body, const QByteArray& contentType, const QUrl& url = QUrl());

    const QUrl& url() const { return m_url; }
    const QByteArray& charset() const { return m_charset; }
    // The page as received (empty for a document built from text).
    const QByteArray& rawBytes() const { return m_raw; }
    // An address of the page resolved against its <base href> or its own address.
    QUrl resolve(const QString& reference) const;

    // The page would have needed far more memory than any real page and was not parsed:
    // the document is empty.
    bool refused() const { return m_refused; }
    // Why a refused page was not read, for messages.
    static QString refusalText();
    // The most memory the parse held, and the most it was allowed.
    size_t parseMemoryPeak() const;
    size_t parseMemoryCeiling() const;
    bool hasBody() const { return !m_body.isNull(); }
    HtmlElement body() const { return m_body; }
    QString title() const;
    // The body's rendered text; empty without a body.
    QString bodyText() const;

    // Every element in document order.
    QList<HtmlElement> elements() const;
    QList<HtmlElement> elementsByTagName(const QString& tag) const;
    QList<HtmlElement> elementsByClassName(const QString& classes) const;
    HtmlElement elementById(const QString& id) const;
    // <a> and <area> elements with an href, in document order.
    QList<HtmlElement> links() const;
    QList<HtmlForm> forms() const;

    // Form internals, for HtmlForm and HtmlElement.
    int formCount() const { return static_cast<int>(m_forms.size()); }
    HtmlElement formElement(int index) const;
    QList<HtmlElement> formControls(int index) const;
    // The form a control belongs to, or -1.
    int formOf(const GumboNode* control) const;

private:
    friend class HtmlElement;

    void index();
    void assignControls();
    qsizetype formSourceEnd(const GumboNode* form) const;

    QByteArray m_buffer; // what the parser read; its output points into it
    QByteArray m_raw;
    QUrl m_url;
    QUrl m_base;
    QByteArray m_charset;
    std::unique_ptr<GumboArena> m_arena; // holds the tree
    GumboOutput* m_output = nullptr;
    bool m_refused = false;
    HtmlElement m_body;
    std::vector<const GumboNode*> m_elements;
    std::vector<const GumboNode*> m_forms;
    std::vector<std::vector<const GumboNode*>> m_controls;
    QHash<const GumboNode*, int> m_controlForm;
    std::vector<qsizetype> m_formEndTags;

    // Field state changed through the document's handles.
    mutable QHash<const GumboNode*, QString> m_values;
    mutable QHash<const GumboNode*, bool> m_checked;
    mutable QHash<const GumboNode*, bool> m_selected;
};
