#pragma once

#include <QLabel>
#include <QList>
#include <QStringList>
#include <QWidget>

// `StatusBar1`: four panels along the bottom edge, addressed by number. Panel 0 tells the
// search result, panel 1 stays blank, panel 2 holds the letter of the active sort order and
// panel 3 "Р" while edit mode is on. Their texts are readable as the property "panels".
// Screen readers meet it as a status bar named by panel 0, as Qt's own status bar is named by
// its message, and hear that name whenever panel 0 is written: the end of every search.
class StatusBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList panels READ panels)
public:
    explicit StatusBar(QWidget* parent);

    QString panelText(int panel) const { return m_panels[panel]->text(); }
    void setPanelText(int panel, const QString& text);
    QStringList panels() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<QLabel*> m_panels;
};
