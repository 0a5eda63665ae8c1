#include "db/DataControl.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "core/RunTimeError.h"

#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {
// Identifies the file a path names now: its device and inode (empty when there is none).
QByteArray fileIdentity(const QString &path)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
}
}

DataControl::DataControl(QObject *parent) : QObject(parent) {}

DataControl::~DataControl() = default;

QString DataControl::passwordOf(const QString &connect)
{
    for (const QString &part : connect.split(u';')) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(QLatin1String("pwd"), Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1);
    }
    return {};
}

DataControl::Source DataControl::parseRecordSource(const QString &recordSource)
{
    static const QRegularExpression tableOnly(QStringLiteral(R"(^\s*(\w+)\s*$)"));
    static const QRegularExpression select(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+(\w+)(?:\s+order\s+by\s+(\w+)(?:\s+(asc|desc))?)?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = tableOnly.match(recordSource); m.hasMatch())
        return {m.captured(1), {}, false};
    if (const auto m = select.match(recordSource); m.hasMatch())
        return {m.captured(1), m.captured(2), m.captured(3).compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0};
    throw RunTimeError(Err::BadRecordSource, QStringLiteral("The record source '%1' is not valid.").arg(recordSource));
}

void DataControl::Refresh()
{
    const Source source = parseRecordSource(RecordSource);
    if (m_db && m_db->isOpen() && (m_openName != DatabaseName || m_openConnect != Connect))
        CloseDatabase();
    if (!m_db || !m_db->isOpen()) {
        m_recordset.reset();
        m_openFile = fileIdentity(DatabaseName);
        m_db = Database::open(DatabaseName, passwordOf(Connect));
        m_openName = DatabaseName;
        m_openConnect = Connect;
    }
    auto fresh = std::make_unique<Recordset>(m_db, source.table, source.orderBy, source.descending);
    if (m_recordset)
        m_recordset->Close();
    m_recordset = std::move(fresh);
    m_recordset->currentChanged = [this] { emit currentRecordChanged(); };
    emit currentRecordChanged();
}

void DataControl::RefreshIfStale()
{
    if (isOpen() && m_openName == DatabaseName && m_openConnect == Connect && fileIdentity(DatabaseName) == m_openFile)
        return;
    CloseDatabase();
    Refresh();
}

bool DataControl::isOpen() const { return m_recordset && m_recordset->isOpen(); }

Recordset &DataControl::recordset() const
{
    if (!isOpen())
        throw RunTimeError(Err::NotOpen, QStringLiteral("The question database is not open."));
    return *m_recordset;
}

Database &DataControl::database() const
{
    if (!m_db || !m_db->isOpen())
        throw RunTimeError(Err::NotOpen, QStringLiteral("The question database is not open."));
    return *m_db;
}

void DataControl::CloseDatabase()
{
    if (m_recordset)
        m_recordset->Close();
    if (m_db)
        m_db->close();
    m_db.reset();
    emit currentRecordChanged();
}
