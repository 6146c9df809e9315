#include "status_bar.h"

namespace {

// Panel widths; the last panel takes the rest of the bar.
constexpr int kWidths[] = {400, 200, 50};
constexpr Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter,
                                         Qt::AlignHCenter};

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    for (Qt::Alignment alignment : kAlignments) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment(alignment | Qt::AlignVCenter);
        panel->setContentsMargins(2, 0, 2, 0);
        m_panels.append(panel);
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
