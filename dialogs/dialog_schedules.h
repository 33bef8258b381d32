#ifndef DIALOG_SCHEDULES_H
#define DIALOG_SCHEDULES_H

#include "shownames.h"

#include <bilingual.h>
#include <schedule.h>
#include <showfile.h>

#include <QByteArray>
#include <QDateTime>
#include <QDialog>
#include <QList>

#include <functional>
#include <memory>

class ErrorBanner;

namespace Ui {
class Dialog_Schedules;
}

// The station's schedules, edited on a copy: each one's name, time, weekdays
// or date, action and switch; and the station's settings they run by. OK
// hands them on only when the schedules' own checks pass; otherwise the
// reason is shown and the dialog stays.
class Dialog_Schedules : public QDialog
{
    Q_OBJECT

public:
    // The station's settings the schedules run by; schedulesOn is kept as given.
    using Settings = ShowFile::Settings;
    // The schedule's next firing (UTC), invalid when it has none.
    using NextOccurrence = std::function<QDateTime(const Schedule &, const QByteArray &timeZone)>;

    Dialog_Schedules(const QList<Schedule> &schedules, const Settings &settings, const ShowNames &names, bool english,
                     QWidget *parent = nullptr);
    ~Dialog_Schedules() override;

    void setEnglish(bool english);
    // Fills the "Next" column; without it the column stays empty.
    void setNextOccurrence(const NextOccurrence &next);

    QList<Schedule> schedules() const { return m_schedules; }
    Settings settings() const;

signals:
    void schedulesAccepted(const QList<Schedule> &schedules, const Settings &settings);

private:
    enum Column { On, Name, When, Next };

    void setTexts();
    void addSchedule(const Schedule &schedule);
    void removeSchedule();
    void storeForm();
    Schedule shownSchedule() const;
    void showSchedule(int row);
    void showAction(const Schedule &schedule);
    void showSummary(int row);
    void showKind();
    QString freeName() const;
    void accept() override;

    std::unique_ptr<Ui::Dialog_Schedules> ui;
    Bilingual m_text;
    ShowNames m_names;
    QList<Schedule> m_schedules;
    int m_current = -1;
    NextOccurrence m_next;
    ErrorBanner *m_banner;
    bool m_schedulesOn = true;
};

#endif // DIALOG_SCHEDULES_H
