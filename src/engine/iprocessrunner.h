#pragma once

#include <QString>
#include <QStringList>

// Runs a system program (pon, poff, systemctl) from an argument vector, never through a
// shell. Tests put a recording fake in its place.
class IProcessRunner
{
public:
    struct Result
    {
        bool started = false;
        int exitCode = -1;
        // Standard output and error together.
        QString output;

        bool succeeded() const { return started && exitCode == 0; }
        // What went wrong, for the log.
        QString errorText(const QString& program) const;
    };

    virtual ~IProcessRunner() = default;
    virtual Result run(const QString& program, const QStringList& arguments) = 0;
};
