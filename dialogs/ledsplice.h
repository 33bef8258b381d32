#ifndef LEDSPLICE_H
#define LEDSPLICE_H

#include <QDialog>
#include <QList>
#include <QStringList>

#include <memory>

class ErrorBanner;
class QLabel;
class QLineEdit;
class Singleton_SerialPort;

namespace Ui {
class LEDsplice;
}

// The physical LED wall: output resolution, applied mode, rows and columns
// of screens with their heights and widths, and a 16 x 16 preview grid.
// "Save" writes the layout into the device data record and emits
// sendSignal(); the opener then sends it to the device.
class LEDsplice : public QDialog
{
    Q_OBJECT

public:
    LEDsplice(Singleton_SerialPort *deviceLink, bool isEnglish, QWidget *parent = nullptr);
    ~LEDsplice() override;

signals:
    void sendSignal();

private slots:
    void saveLEDSplice();
    void saveData();
    void set_fromt(int index);

private:
    void buildGrid();
    void setTexts(bool isEnglish);
    bool checkCounts();
    bool checkSizes();
    void applyCounts();
    void storeToRecord();
    void loadFromRecord();
    void paintGrid();
    // The banner texts, in the order of m_messages.
    enum Banner { SizesAdjusted, CountsTooLarge };
    void showMessage(Banner banner);
    void clearSizeFields();
    int recordRows() const;
    int recordCols() const;

    std::unique_ptr<Ui::LEDsplice> ui;
    Singleton_SerialPort *link;
    QList<QLineEdit *> m_rowEdits;
    QList<QLineEdit *> m_colEdits;
    QList<QLabel *> m_cells;
    QStringList m_messages;
    int m_rows = 0;
    int m_cols = 0;
    int m_maxWidth = 0;
    int m_maxHeight = 0;
    ErrorBanner *m_banner;
};

#endif // LEDSPLICE_H
