#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class VersionInfoSource;

// The small borderless window of Help > About: the maker's logo, the
// program's title and version, the maker's web site and the copyright line.
// Any key, or a click anywhere but on the web address, closes it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 199;
    static constexpr int ClientHeight = 216;

    // Shows the version information built into the program.
    explicit TAboutBox(QWidget* parent = nullptr);
    TAboutBox(const VersionInfoSource& versionInfo, QWidget* parent);

    // Centres the window over `owner`, never at a negative position.
    void PlaceOver(const QRect& owner);

    QFrame* Panel1 = nullptr;
    QFrame* LogoPanel = nullptr;
    QLabel* TembaLogo = nullptr;
    QLabel* TitleLabel1 = nullptr;
    QLabel* TitleLabel2 = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* ForUpdatesLabel = nullptr;
    QLabel* TembaWebsiteLabel = nullptr;
    QLabel* CompanyLabel = nullptr;
    QLabel* CopyrightLabel = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const VersionInfoSource& versionInfo);
    void FormMouseDown();
    void FormKeyDown();
    void WebsiteLabelClick();
};
