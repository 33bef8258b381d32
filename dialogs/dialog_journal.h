#ifndef DIALOG_JOURNAL_H
#define DIALOG_JOURNAL_H

#include <bilingual.h>

#include <QDialog>
#include <QStringList>

#include <memory>

class Journal;
class JournalTableModel;
struct JournalQuery;

namespace Ui {
class Dialog_Journal;
}

// The journal: who changed what on which processor and how it ended,
// newest first, filtered by processor, source, kind and time; what is
// shown can be exported as CSV.
class Dialog_Journal : public QDialog
{
    Q_OBJECT

public:
    // processorNames: the station's processors, the first one's name first.
    Dialog_Journal(Journal *journal, const QStringList &processorNames, bool english, QWidget *parent = nullptr);
    ~Dialog_Journal() override;

    void setEnglish(bool english);
    // Reads the journal again with the filters as set.
    void refresh();

private:
    void setTexts();
    JournalQuery filters() const;
    void exportCsv();

    std::unique_ptr<Ui::Dialog_Journal> ui;
    Journal *m_journal;
    JournalTableModel *m_model;
    Bilingual m_text;
};

#endif // DIALOG_JOURNAL_H
