#ifndef DIALOG_BACKUPS_H
#define DIALOG_BACKUPS_H

#include <backuptable.h>
#include <bilingual.h>

#include <QDialog>
#include <QList>
#include <QStringList>

#include <memory>

class ErrorBanner;

namespace Ui {
class Dialog_Backups;
}

// The backup sources of the station, edited on a copy, one processor at a
// time: for each of its inputs up to three others that stand in, in order,
// and how the input comes back. OK hands the entries on only when
// BackupTable's checks pass; otherwise the reason is shown and the dialog
// stays.
class Dialog_Backups : public QDialog
{
    Q_OBJECT

public:
    struct Input
    {
        int code = 0;
        QString name;
    };

    // inputs[i]: the inputs of processor i + 1, the first one's name first
    // in processorNames.
    Dialog_Backups(const QList<BackupTable::Entry> &entries, const QStringList &processorNames,
                   const QList<QList<Input>> &inputs, bool english, QWidget *parent = nullptr);
    ~Dialog_Backups() override;

    void setEnglish(bool english);
    QList<BackupTable::Entry> entries() const { return m_entries; }

signals:
    void entriesAccepted(const QList<BackupTable::Entry> &entries);

private:
    enum Column { InputColumn, FirstBackup, ReturnColumn = FirstBackup + BackupTable::MaxBackups, Stable };

    void setTexts();
    void labelReturn(int row);
    void showProcessor(int index);
    void addRow(int row, const Input &input, const BackupTable::Entry *entry);
    // The table's rows kept into the entries of the processor shown.
    void storeTable();
    BackupTable::Entry rowEntry(int row) const;
    void accept() override;

    std::unique_ptr<Ui::Dialog_Backups> ui;
    Bilingual m_text;
    QList<QList<Input>> m_inputs;
    QList<BackupTable::Entry> m_entries;
    int m_shown = -1;
    ErrorBanner *m_banner;
};

#endif // DIALOG_BACKUPS_H
