#pragma once

#include <QObject>
#include <QString>

#include <memory>

class Database;
class Recordset;

// The data connection of the main window: a database file, a connect string that carries the
// password (";pwd=..."), and a record source that is either a table name or
// "select * from <table> [order by <field> [asc|desc]]". Refresh opens the database (once, and
// again after it was closed or pointed elsewhere) and reopens the record set on its first row.
class DataControl : public QObject
{
    Q_OBJECT

public:
    explicit DataControl(QObject *parent = nullptr);
    ~DataControl() override;

    QString Connect;
    QString DatabaseName;
    QString RecordSource;

    // Opens or reopens; raises the engine's run-time errors.
    void Refresh();
    // Refresh, but only when the connection was lost (closed by a failed command) or the file
    // at DatabaseName is no longer the one that was opened (replaced, or removed and brought
    // back). A new game calls it, so the game recovers once the file is there again.
    void RefreshIfStale();

    bool isOpen() const;
    // The open record set / database; error 3107 when there is none.
    Recordset &recordset() const;
    Database &database() const;
    // Closes the record set and the database file (before compacting or repairing it).
    void CloseDatabase();

    // The password given by a connect string (the value of "pwd", empty when none).
    static QString passwordOf(const QString &connect);

    struct Source
    {
        QString table;
        QString orderBy;
        bool descending = false;
    };
    // Parses a record source; error 3108 when it is neither form.
    static Source parseRecordSource(const QString &recordSource);

signals:
    // The current row changed (a move, an update, a refresh): bound labels show it anew.
    void currentRecordChanged();

private:
    std::shared_ptr<Database> m_db;
    std::unique_ptr<Recordset> m_recordset;
    QString m_openName;
    QString m_openConnect;
    QByteArray m_openFile; // device and inode of the file opened
};
