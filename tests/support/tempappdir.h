#ifndef TEMPAPPDIR_H
#define TEMPAPPDIR_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary application directory that AppPaths points at while the object lives.
class TempAppDir
{
public:
    // withData: start with a copy of the repository's data/ folders (descriptions, templates...).
    explicit TempAppDir(bool withData = false);
    ~TempAppDir();
    TempAppDir(const TempAppDir &) = delete;
    TempAppDir &operator=(const TempAppDir &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    // path() + relative ("/..." form).
    QString filePath(const QString &relative) const;
    // Writes a file (creating folders); relative starts with "/".
    bool write(const QString &relative, const QByteArray &content);
    QByteArray read(const QString &relative) const;
    bool exists(const QString &relative) const;
    // Copies a folder tree from source into relative.
    bool copyTree(const QString &source, const QString &relative);

private:
    QTemporaryDir m_dir;
};

#endif
