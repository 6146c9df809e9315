#pragma once

#include <QApplication>

// The application object. Every handler of the program already runs through runGuarded;
// notify() is the last net for an error thrown anywhere else during event delivery.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
