#ifndef JOURNALTABLEMODEL_H
#define JOURNALTABLEMODEL_H

#include <bilingual.h>
#include <journalentry.h>

#include <QAbstractTableModel>
#include <QList>

// Journal entries as the journal dialog shows them, in the order given
// (newest first), times in local time.
class JournalTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Time, Processor, Who, Kind, What, Result, Detail, ColumnCount };

    explicit JournalTableModel(bool english, QObject *parent = nullptr);

    void setEntries(const QList<JournalEntry> &entries);
    const QList<JournalEntry> &entries() const { return m_entries; }
    void setEnglish(bool english);

    // The texts of the enums, shared with the dialog's filters.
    static QString whoText(JournalEntry::Who who, const Bilingual &text);
    static QString resultText(JournalEntry::Result result, const Bilingual &text);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString cell(const JournalEntry &entry, int column) const;

    QList<JournalEntry> m_entries;
    Bilingual m_text;
};

#endif // JOURNALTABLEMODEL_H
