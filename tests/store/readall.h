#pragma once
// A whole file's bytes, or a marker that no real content equals.

#include <QFile>
#include <QString>

#include <string>

inline std::string ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll().toStdString();
}

inline std::string ReadAll(const std::string& path) { return ReadAll(QString::fromStdString(path)); }
inline std::string ReadAll(const char* path) { return ReadAll(QString::fromUtf8(path)); }
