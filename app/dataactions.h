#ifndef DATAACTIONS_H
#define DATAACTIONS_H

#include <bilingual.h>

#include <QObject>

class Dialog_Verify;
class Form_Model;
class PresetCheck;
class LinkFeedback;
class PresetStore;
class QWidget;
class Singleton_SerialPort;

// The Device Data menu and the names of presets and inputs: export,
// import, synchronise, verify (with its result and the operator's choices)
// and initialise; the name dialogs. Before the device's data replace the
// host's presets, the host's data are kept in a dated backup. A data file
// that cannot be saved is said.
class DataActions : public QObject
{
    Q_OBJECT

public:
    DataActions(Singleton_SerialPort *link, PresetStore *presets, LinkFeedback *feedback,
                Form_Model *bar, QWidget *parent);

    void setEnglish(bool english) { m_text.setEnglish(english); }

    void exportData();
    void importData();
    void syncData();
    // Reads the device into its copy beside the host's data; the operator
    // then chooses per part what wins.
    void verifyData();
    // The same read, its result handed to checked() instead of a dialog
    // (null at once when there is no link).
    void verifyQuietly();
    // For a connection that finds presets changed here: nothing of the
    // host's is replaced; the input entries are read into the record, the
    // rest as verifyData() does, after a backup of the host's data.
    void readForChoice();
    void initDevice();
    // Writes everything and verifies it; false, with nothing sent, when
    // the data cannot be sent whole.
    bool writeAllAndVerify();
    // A verify read is in: its result shows once the wait page is gone.
    void verifyReadDone() { m_verifyReadIn = true; }
    void waitPagesClosed();

    // The name dialogs; true when a name was confirmed.
    bool askPresetName(int preset);
    bool askInputName(int code);

    // The operator weighs the host's data against the device's: nothing
    // else may reach the device until the choice is made.
    bool isWeighing() const { return m_weighing; }

signals:
    // The operator has made the choice (or closed it).
    void weighed();
    // The sources may show otherwise: their names, cards or settings.
    void sourcesChanged();
    // A quiet verify's result; null when its read failed.
    void checked(const PresetCheck *check);
    // The whole device is being rewritten (kind "import" or "initialise"):
    // its frames are posted, the wait page shows until they end.
    void deviceWorkPosted(const QString &kind, const QString &what);

private:
    bool postVerify();
    // The dialog of choices; the caller of a quiet verify hears the result
    // too when toCaller.
    void showVerifyResult(bool toCaller);
    PresetCheck takeCardsRead();
    void markVerified(const PresetCheck &check);
    void apply(const Dialog_Verify &choices);
    void takeEntries(const QList<int> &entries);
    bool allowReplacing(const QList<int> &presets) const;
    bool backUp();
    bool backUpDevice();
    bool askName(const QString &title, const QString &label, QString *name) const;

    Singleton_SerialPort *m_link;
    PresetStore *m_presets;
    LinkFeedback *m_feedback;
    Form_Model *m_bar;
    QWidget *m_window;
    Bilingual m_text;
    // The verify under way, until its wait page closes: its read is in, and
    // who waits for it (both may).
    bool m_verifyReadIn = false;
    bool m_dialogWanted = false; // the operator asked for the verify
    bool m_checkWanted = false;  // a caller waits for checked()
    bool m_weighing = false;     // the choice dialog is open
};

#endif // DATAACTIONS_H
