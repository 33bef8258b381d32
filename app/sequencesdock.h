#ifndef SEQUENCESDOCK_H
#define SEQUENCESDOCK_H

#include <bilingual.h>

#include <QDockWidget>
#include <QTimer>

class SequenceDeck;

namespace Ui {
class SequencesDock;
}

// The station's sequences as they play: each one's state, step and the
// time left of its dwell, with Start, Pause, Resume and Stop for the one
// chosen. What the buttons cannot do now is said, not hidden.
class SequencesDock : public QDockWidget
{
    Q_OBJECT

public:
    SequencesDock(SequenceDeck *deck, QWidget *parent = nullptr);
    ~SequencesDock() override;

    void setEnglish(bool english);

signals:
    void said(const QString &text, bool failed);

private:
    void refresh();
    void act(QString (SequenceDeck::*command)(const QString &));
    QString chosen() const;

    SequenceDeck *m_deck;
    Ui::SequencesDock *ui;
    Bilingual m_text;
    QTimer m_tick; // the time left, while one plays
};

#endif // SEQUENCESDOCK_H
