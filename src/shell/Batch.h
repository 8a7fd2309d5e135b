#pragma once
// The command-line companion of the designer: shows what a project or object file holds and
// writes the sample projects the program ships.
#include <QJsonObject>
#include <QString>
#include <QStringList>

class QTextStream;

// Runs "info FILE" or "demo DIR"; returns the exit status.
int RunBatch(const QStringList& args, QTextStream& out, QTextStream& err);

// The outline of a project (.KvR) or object (.KvO) file; false with a message when it cannot be read.
bool FileOutline(const QString& fileName, QJsonObject& outline, QString& error);

// Writes the sample projects into a directory; the names of the files written.
bool WriteDemoProjects(const QString& dir, QStringList& written, QString& error);
