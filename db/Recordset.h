#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Database;
class Statement;

// An updatable record set over one table: a keyset cursor over the rows' ids, taken in the
// requested order when the set is opened. Moving is cheap; field values are read from the
// file when first asked for on a row. Every misuse is a run-time error, never a crash.
class Recordset
{
public:
    // table and orderBy must already be validated names (DataControl does that).
    Recordset(std::shared_ptr<Database> db, QString table, QString orderBy = {}, bool descending = false);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    // A second cursor over the same rows, standing on the first row; edits made through it
    // go to the same file.
    std::unique_ptr<Recordset> Clone() const;

    void MoveFirst();
    void MoveLast();
    void MoveNext();     // error 3106 when already past the last row
    void MovePrevious(); // from past the end back to the last row; error 3106 before the first

    bool EOF_() const { return m_pos >= qsizetype(m_keys.size()); }
    bool BOF() const { return m_pos < 0; }
    bool hasCurrent() const { return !EOF_() && !BOF(); }
    int RecordCount() const { return int(m_keys.size()); }
    int AbsolutePosition() const { return int(m_pos); }
    // Moves to a row by its position (0 is the first row); error 3106 outside the rows.
    void SetAbsolutePosition(int position);
    // The id (rowid) of the row at a position (0 is the first row); error 3106 outside the rows.
    qint64 KeyAt(int position) const;

    // The current row's value (a null QVariant for Null). Errors: 3105 no such field, 3106 no
    // current row, 3113 the row was deleted under the cursor.
    QVariant Field(const QString &name) const;
    // The same read as text; error 94 "Invalid use of Null" for a Null.
    QString FieldText(const QString &name) const;

    void Edit();                                        // 3106 without a current row
    void SetField(const QString &name, const QVariant &value); // 3114 without Edit
    void Update();                                      // writes the pending values
    void CancelUpdate();
    bool editing() const { return m_editing; }

    void Close();
    bool isOpen() const { return m_db != nullptr; }

    const QString &table() const { return m_table; }
    const QStringList &fieldNames() const { return m_columns; }
    Database &database() const;

    // Called after every change of the current row (moves and updates).
    std::function<void()> currentChanged;

private:
    Recordset(const Recordset &other, int);
    int columnIndex(const QString &name) const;
    void requireCurrent() const;
    void loadRow() const;
    void changed();

    std::shared_ptr<Database> m_db;
    QString m_table;
    QStringList m_columns;
    std::vector<qint64> m_keys;
    qsizetype m_pos = 0;

    mutable qsizetype m_cachedPos = -2;
    mutable std::vector<QVariant> m_row;
    mutable std::shared_ptr<Statement> m_rowQuery;
    // The last UPDATE prepared, reused while the same fields are written (a shuffle writes
    // Sort on every row).
    QString m_updateSql;
    std::unique_ptr<Statement> m_update;

    bool m_editing = false;
    std::vector<std::optional<QVariant>> m_pending;
};
