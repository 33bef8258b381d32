#ifndef ERRORBANNER_H
#define ERRORBANNER_H

#include <QObject>
#include <QTimer>

class NavLabel;

// A message over a dialog for three seconds, each new message starting the
// time anew. The dialog can be disabled meanwhile, so that the operator
// reads it before going on, and the banner centred on a dialog that may
// have been resized.
class ErrorBanner : public QObject
{
    Q_OBJECT

public:
    static constexpr int ShownMs = 3000;

    enum Option { DisablesWindow = 0x1, Centred = 0x2 };
    Q_DECLARE_FLAGS(Options, Option)

    ErrorBanner(NavLabel *label, Options options, QObject *parent = nullptr);

    void show(const QString &text);

private:
    void hide();

    NavLabel *m_label;
    Options m_options;
    QTimer m_timer;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(ErrorBanner::Options)

#endif // ERRORBANNER_H
