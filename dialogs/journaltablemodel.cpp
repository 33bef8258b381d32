#include "journaltablemodel.h"

JournalTableModel::JournalTableModel(bool english, QObject *parent)
    : QAbstractTableModel(parent)
    , m_text(english)
{
}

void JournalTableModel::setEntries(const QList<JournalEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

void JournalTableModel::setEnglish(bool english)
{
    m_text.setEnglish(english);
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!m_entries.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

QString JournalTableModel::whoText(JournalEntry::Who who, const Bilingual &text)
{
    switch (who) {
    case JournalEntry::Who::Operator:
        return text("Operator", "操作员");
    case JournalEntry::Who::Remote:
        return text("Remote", "远程");
    case JournalEntry::Who::Schedule:
        return text("Schedule", "定时");
    case JournalEntry::Who::Sequence:
        return text("Sequence", "序列");
    case JournalEntry::Who::Watchdog:
        return text("Watchdog", "看门狗");
    case JournalEntry::Who::Backup:
        return text("Backup", "备份");
    }
    return {};
}

QString JournalTableModel::resultText(JournalEntry::Result result, const Bilingual &text)
{
    switch (result) {
    case JournalEntry::Result::Pending:
        return text("Pending", "等待中");
    case JournalEntry::Result::Confirmed:
        return text("Confirmed", "已确认");
    case JournalEntry::Result::Failed:
        return text("Failed", "失败");
    case JournalEntry::Result::GivenUp:
        return text("Given up", "已放弃");
    }
    return {};
}

int JournalTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int JournalTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JournalTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size() || role != Qt::DisplayRole)
        return {};
    return cell(m_entries.at(index.row()), index.column());
}

QString JournalTableModel::cell(const JournalEntry &entry, int column) const
{
    switch (column) {
    case Time:
        return entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    case Processor:
        return entry.processor == 0 ? m_text("Station", "全站")
                                    : QStringLiteral("%1 %2").arg(entry.processor).arg(entry.processorName);
    case Who:
        return (whoText(entry.who, m_text) + QLatin1Char(' ') + entry.whoDetail).trimmed();
    case Kind:
        return entry.kind;
    case What:
        return entry.what;
    case Result:
        return resultText(entry.result, m_text);
    case Detail:
        return entry.detail;
    }
    return {};
}

QVariant JournalTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Time:
        return m_text("Time", "时间");
    case Processor:
        return m_text("Processor", "处理器");
    case Who:
        return m_text("Who", "操作者");
    case Kind:
        return m_text("Kind", "类型");
    case What:
        return m_text("What", "内容");
    case Result:
        return m_text("Result", "结果");
    case Detail:
        return m_text("Detail", "详情");
    }
    return {};
}
