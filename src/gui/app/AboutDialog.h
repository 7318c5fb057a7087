#pragma once

#include <QDialog>

// "About Sonvex1.1": the application icon, the version text and "OK".
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "About Sonvex1.1";
    static constexpr const char* kVersionText = "Sonvex1.1 Version 1.1";

    explicit CAboutDlg(QWidget* parent = nullptr);
};
