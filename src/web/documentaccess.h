#pragma once

#include "web/htmldocument.h"
#include "web/htmlform.h"

#include <QString>
#include <memory>

// The document operations of the bid thread, the internal browser and the Search
// Service, by the names they are known under.

// Downloads `url` raw and parses it; null (the download logged why) when it gave nothing.
std::unique_ptr<HtmlDocument> LoadHtmlDocument(const QString& url);

// The body's rendered text, lines joined by "\r\n"; empty without a document or body.
QString GetBodyText(const HtmlDocument* document);

// The first form whose non-empty name equals `name` ignoring case. False only without a
// document; no match leaves `form` null and still succeeds.
bool FindFormByName(const HtmlDocument* document, const QString& name, HtmlForm* form);

// The form's first INPUT named `name`.
HtmlElement FindInputByName(const HtmlForm& form, const QString& name);
bool SetInputValue(const HtmlForm& form, const QString& name, const QString& value);
bool SetTextAreaValue(const HtmlForm& form, const QString& name, const QString& value);

// The first form with an INPUT named `fieldName` whose current value equals `fieldValue`
// ignoring case: how the site's forms are told apart (the hidden command field).
HtmlForm FindFormByInputValue(const HtmlDocument* document, const QString& fieldName,
                              const QString& fieldValue);
