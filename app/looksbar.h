#ifndef LOOKSBAR_H
#define LOOKSBAR_H

#include <bilingual.h>
#include <look.h>
#include <remoteactions.h>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class LookRecall;
class LookTarget;
class MainWindow;
class QAction;
class QMenu;
class QToolBar;

// The station's looks: a bar of buttons and a "Looks" menu (shown in each
// processor's menu bar), the commands that store a look from the presets
// on air and remove one, and the recall of a look, said per processor.
// A look's button is checked while every processor of it shows its preset,
// and marked while some do.
class LooksBar : public QObject
{
    Q_OBJECT

public:
    LooksBar(QToolBar *bar, const QString &path, QObject *parent);

    // The processors, in order; the file is read against their number.
    void setProcessors(const QList<MainWindow *> &windows, const QList<LookTarget *> &targets,
                       const QStringList &names);
    QMenu *menu() const { return m_menu; }
    const QList<Look> &looks() const { return m_looks; }
    void setEnglish(bool english);

    // Recalls the look; finished() follows with each processor's result,
    // and recalled() as well. by: the remote client that asks.
    LookRecall *recall(int look, RemoteActions::Origin origin = RemoteActions::ByOperator, const QString &by = {});
    // A look of the presets on air now; the reason when it cannot be kept.
    QString store(const QString &name);
    // Keeps the look as given; the reason when it cannot be kept.
    QString keep(Look look);
    void remove(int look);

signals:
    void said(const QString &text, bool failed);
    // A look's recall has finished (RemoteActions::Origin).
    void recalled(const LookRecall *recall, int origin, const QString &by);

private:
    void load();
    void dropMissingProcessors();
    bool save();
    void rebuild();
    void updateMarks();
    void askToStore();
    void report(LookRecall *recall);

    QToolBar *m_bar;
    QMenu *m_menu;
    QMenu *m_removeMenu;
    QAction *m_storeAction;
    QString m_path;
    QList<Look> m_looks;
    QList<QAction *> m_lookActions;
    QList<MainWindow *> m_windows;
    QList<LookTarget *> m_targets;
    QStringList m_names;
    Bilingual m_text;
};

#endif // LOOKSBAR_H
