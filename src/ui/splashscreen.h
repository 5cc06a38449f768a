#pragma once

#include <QSplashScreen>

// The start-up window that names the step being run.
class SplashScreen : public QSplashScreen
{
public:
    SplashScreen();
    void showText(const QString& text);
};
