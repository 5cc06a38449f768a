#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The pieces of `text` between occurrences of `delimiter`, in order, without empty pieces:
// line numbers count only lines with text. An empty delimiter gives the whole text.
QStringList SplitLines(QStringView text, QStringView delimiter);

// `text` without leading and trailing white space and without any space character inside.
QString StripSpaces(const QString& text);
