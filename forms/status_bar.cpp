#include "status_bar.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Panel widths; the last panel takes the rest of the bar.
constexpr int kWidths[] = {400, 200, 50};
constexpr Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter,
                                         Qt::AlignHCenter};

class AccessibleStatusBar : public QAccessibleWidget {
public:
    explicit AccessibleStatusBar(StatusBar* bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<const StatusBar*>(widget())->panelText(0);
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* accessibleStatusBar(const QString& className, QObject* object) {
    if (className == QLatin1String(StatusBar::staticMetaObject.className()))
        return new AccessibleStatusBar(static_cast<StatusBar*>(object));
    return nullptr;
}

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
    static const bool readable = (QAccessible::installFactory(accessibleStatusBar), true);
    Q_UNUSED(readable);
    setObjectName(QStringLiteral("StatusBar1"));
    for (Qt::Alignment alignment : kAlignments) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment(alignment | Qt::AlignVCenter);
        panel->setContentsMargins(2, 0, 2, 0);
        m_panels.append(panel);
    }
}

void StatusBar::setPanelText(int panel, const QString& text) {
    m_panels[panel]->setText(text);
    if (panel == 0) {
        // Every time, not only on a change: a search that finds as many entries as the one
        // before has a result to hear too. Sent whether or not a reader listens; it costs a
        // lookup per search.
        QAccessibleEvent written(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&written);
    }
}

QStringList StatusBar::panels() const {
    QStringList texts;
    for (const QLabel* panel : m_panels)
        texts << panel->text();
    return texts;
}

void StatusBar::resizeEvent(QResizeEvent*) {
    int left = 0;
    for (int i = 0; i < m_panels.size(); ++i) {
        const int width =
            i < int(std::size(kWidths)) ? kWidths[i] : std::max(0, this->width() - left);
        m_panels[i]->setGeometry(left, 1, width - 2, height() - 1);
        left += width;
    }
}
