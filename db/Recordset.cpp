#include "db/Recordset.h"

#include "db/Database.h"
#include "core/RunTimeError.h"
#include "db/Statement.h"

namespace {
RunTimeError noCurrentRecord() { return {Err::NoCurrentRecord, QStringLiteral("No current record.")}; }
}

Recordset::Recordset(std::shared_ptr<Database> db, QString table, QString orderBy, bool descending)
    : m_db(std::move(db)), m_table(std::move(table))
{
    m_columns = m_db->columns(m_table);
    QString sql = QStringLiteral("SELECT rowid FROM %1").arg(Database::quoted(m_table));
    if (!orderBy.isEmpty()) {
        if (columnIndex(orderBy) < 0)
            throw RunTimeError(Err::FieldNotFound,
                               QStringLiteral("The table '%1' has no field '%2'.").arg(m_table, orderBy));
        sql += QStringLiteral(" ORDER BY %1 %2, rowid").arg(Database::quoted(orderBy),
                                                           descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
    }
    Statement keys(m_db->handle(), sql);
    while (keys.step())
        m_keys.push_back(keys.int64(0));
    m_pending.resize(std::size_t(m_columns.size()));
}

Recordset::Recordset(const Recordset &other, int)
    : m_db(other.m_db), m_table(other.m_table), m_columns(other.m_columns), m_keys(other.m_keys),
      m_rowQuery(other.m_rowQuery)
{
    m_pending.resize(std::size_t(m_columns.size()));
}

Recordset::~Recordset() = default;

std::unique_ptr<Recordset> Recordset::Clone() const
{
    if (!m_db)
        throw RunTimeError(Err::NotOpen, QStringLiteral("The record set is closed."));
    return std::unique_ptr<Recordset>(new Recordset(*this, 0));
}

Database &Recordset::database() const
{
    if (!m_db)
        throw RunTimeError(Err::NotOpen, QStringLiteral("The record set is closed."));
    return *m_db;
}

void Recordset::changed()
{
    m_editing = false;
    if (currentChanged)
        currentChanged();
}

void Recordset::MoveFirst()
{
    database();
    m_pos = 0;
    changed();
}

void Recordset::MoveLast()
{
    database();
    m_pos = qsizetype(m_keys.size()) - 1;
    if (m_keys.empty())
        m_pos = 0;
    changed();
}

void Recordset::MoveNext()
{
    database();
    if (EOF_())
        throw noCurrentRecord();
    ++m_pos;
    changed();
}

void Recordset::MovePrevious()
{
    database();
    if (BOF() || (m_pos == 0 && m_keys.empty()))
        throw noCurrentRecord();
    --m_pos;
    changed();
}

void Recordset::SetAbsolutePosition(int position)
{
    database();
    if (position < 0 || position >= int(m_keys.size()))
        throw noCurrentRecord();
    m_pos = position;
    changed();
}

qint64 Recordset::KeyAt(int position) const
{
    database();
    if (position < 0 || position >= int(m_keys.size()))
        throw noCurrentRecord();
    return m_keys[std::size_t(position)];
}

int Recordset::columnIndex(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void Recordset::requireCurrent() const
{
    database();
    if (!hasCurrent())
        throw noCurrentRecord();
}

void Recordset::loadRow() const
{
    if (m_cachedPos == m_pos)
        return;
    if (!m_rowQuery)
        m_rowQuery = std::make_shared<Statement>(
            m_db->handle(), QStringLiteral("SELECT * FROM %1 WHERE rowid = ?1").arg(Database::quoted(m_table)));
    Statement &q = *m_rowQuery;
    q.reset();
    q.bind(1, QVariant(m_keys[std::size_t(m_pos)]));
    if (!q.step())
        throw RunTimeError(Err::RecordDeleted, QStringLiteral("The current record has been deleted."));
    m_row.assign(std::size_t(q.columnCount()), QVariant());
    for (int i = 0; i < q.columnCount(); ++i)
        m_row[std::size_t(i)] = q.value(i);
    q.reset();
    m_cachedPos = m_pos;
}

QVariant Recordset::Field(const QString &name) const
{
    const int column = columnIndex(name);
    if (column < 0)
        throw RunTimeError(Err::FieldNotFound, QStringLiteral("The table '%1' has no field '%2'.").arg(m_table, name));
    requireCurrent();
    loadRow();
    return column < int(m_row.size()) ? m_row[std::size_t(column)] : QVariant();
}

QString Recordset::FieldText(const QString &name) const
{
    const QVariant value = Field(name);
    if (value.isNull())
        throw RunTimeError::standard(Err::InvalidUseOfNull);
    return value.toString();
}

void Recordset::Edit()
{
    requireCurrent();
    std::fill(m_pending.begin(), m_pending.end(), std::nullopt);
    m_editing = true;
}

void Recordset::SetField(const QString &name, const QVariant &value)
{
    const int column = columnIndex(name);
    if (column < 0)
        throw RunTimeError(Err::FieldNotFound, QStringLiteral("The table '%1' has no field '%2'.").arg(m_table, name));
    if (!m_editing)
        throw RunTimeError(Err::NoEdit, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    m_pending[std::size_t(column)] = value;
}

void Recordset::Update()
{
    if (!m_editing)
        throw RunTimeError(Err::NoEdit, QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    requireCurrent();
    QStringList sets;
    QVariantList values;
    for (std::size_t i = 0; i < m_pending.size(); ++i) {
        if (m_pending[i]) {
            sets << QStringLiteral("%1 = ?%2").arg(Database::quoted(m_columns[int(i)])).arg(values.size() + 1);
            values << *m_pending[i];
        }
    }
    m_editing = false;
    if (sets.isEmpty())
        return;
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3")
                            .arg(Database::quoted(m_table), sets.join(QStringLiteral(", ")))
                            .arg(values.size() + 1);
    if (!m_update || sql != m_updateSql) {
        m_update.reset();
        m_update = std::make_unique<Statement>(m_db->handle(), sql);
        m_updateSql = sql;
    }
    Statement &q = *m_update;
    q.reset();
    for (int i = 0; i < values.size(); ++i)
        q.bind(i + 1, values[i]);
    q.bind(int(values.size()) + 1, QVariant(m_keys[std::size_t(m_pos)]));
    q.step();
    q.reset();
    m_cachedPos = -2;
    std::fill(m_pending.begin(), m_pending.end(), std::nullopt);
}

void Recordset::CancelUpdate()
{
    m_editing = false;
    std::fill(m_pending.begin(), m_pending.end(), std::nullopt);
}

void Recordset::Close()
{
    m_rowQuery.reset();
    m_update.reset();
    m_db.reset();
    m_keys.clear();
    m_pos = 0;
    m_cachedPos = -2;
    m_editing = false;
}
