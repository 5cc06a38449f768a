#pragma once

#include <QListWidget>

// The recent messages of the log's Message operation: newest first, each with the image
// of its level, at most kMaxLines.
class CMessageList : public QListWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxLines = 200;

    explicit CMessageList(QWidget* parent = nullptr);

    // Inserts the line at the top and selects it; the oldest line goes beyond kMaxLines.
    void addLine(const QString& line, int level);
    // The level the line at `row` was given, -1 for no such row.
    int levelAt(int row) const;
    // The height of one line, also while the list is empty.
    int lineHeight() const;
};
