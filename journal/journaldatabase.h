#ifndef JOURNALDATABASE_H
#define JOURNALDATABASE_H

#include <QSqlDatabase>
#include <QString>

class QSqlQuery;

// One SQLite connection to the journal's file, made, used and removed in
// one thread (a connection must not cross threads). Opening sets the file
// to write-ahead logging and makes or checks the schema.
class JournalDatabase
{
public:
    // The table's columns, in the order the writer binds and the reader
    // reads them.
    static const char *const Columns;
    static constexpr int SchemaVersion = 1;

    // role names the connection ("write", "read"); a number makes it unique.
    explicit JournalDatabase(const QString &role);
    ~JournalDatabase();
    JournalDatabase(const JournalDatabase &) = delete;
    JournalDatabase &operator=(const JournalDatabase &) = delete;

    // check: run SQLite's quick check over the file too (at the journal's
    // open, to find a damaged file before writing into it).
    bool open(const QString &path, bool check);
    QSqlDatabase database() const;
    QString lastError() const { return m_error; }

    // Runs the statement; on failure keeps its error.
    bool exec(QSqlQuery &query);
    bool exec(const QString &sql);

private:
    bool makeSchema();
    bool checkFile();
    bool fail(const QString &what, const QString &error);

    QString m_name;
    QString m_error;
};

#endif // JOURNALDATABASE_H
