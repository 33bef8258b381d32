#ifndef PROCESSORSDOCK_H
#define PROCESSORSDOCK_H

#include <bilingual.h>

#include <QDockWidget>
#include <QList>
#include <QStringList>

class MainWindow;
class QListWidget;

// The processors of the station: each one's name, link state and preset on
// air, kept up to date from its link and its on-air model. Choosing one
// shows it; its context menu links or unlinks that one alone.
class ProcessorsDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit ProcessorsDock(QWidget *parent = nullptr);

    void setProcessors(const QList<MainWindow *> &windows, const QStringList &names);
    void setCurrent(int index);
    void setEnglish(bool english);

signals:
    void chosen(int index);

private:
    void watch(MainWindow *window);
    void refresh();
    void openMenu(const QPoint &at);
    QString stateText(const MainWindow *window) const;

    QListWidget *m_list;
    QList<MainWindow *> m_windows;
    QStringList m_names;
    Bilingual m_text;
};

#endif // PROCESSORSDOCK_H
