#ifndef DIALOG_SEQUENCES_H
#define DIALOG_SEQUENCES_H

#include "shownames.h"

#include <bilingual.h>
#include <sequence.h>

#include <QDialog>
#include <QList>

#include <memory>

class ErrorBanner;

namespace Ui {
class Dialog_Sequences;
}

// The station's sequences, edited on a copy: each one's name, loop and what
// a failed step does, and its steps (a processor's preset or a look, each
// held for its dwell). OK hands the list on only when Sequence's checks
// pass; otherwise the reason is shown and the dialog stays.
class Dialog_Sequences : public QDialog
{
    Q_OBJECT

public:
    Dialog_Sequences(const QList<Sequence> &sequences, const ShowNames &names, bool english,
                     QWidget *parent = nullptr);
    ~Dialog_Sequences() override;

    void setEnglish(bool english);
    QList<Sequence> sequences() const { return m_sequences; }

signals:
    void sequencesAccepted(const QList<Sequence> &sequences);

private:
    enum StepColumn { Kind, Processor, Preset, Look, Dwell };

    void setTexts();
    void addSequence(const Sequence &sequence);
    void removeSequence();
    // The form kept into the current sequence, and a sequence shown in it.
    void storeForm();
    void showSequence(int row);
    void showSummary(int row);
    void showSteps(const QList<SequenceStep> &steps);
    void addStepRow(int row, const SequenceStep &step);
    SequenceStep stepAt(int row) const;
    QList<SequenceStep> shownSteps() const;
    void moveStep(int by);
    QString freeName(const QString &base) const;
    void accept() override;

    std::unique_ptr<Ui::Dialog_Sequences> ui;
    Bilingual m_text;
    ShowNames m_names;
    QList<Sequence> m_sequences;
    int m_current = -1;
    ErrorBanner *m_banner;
};

#endif // DIALOG_SEQUENCES_H
