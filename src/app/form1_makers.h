// Small makers of the main window's controls: each gets its component name as its
// object name, by which the window's tests find it too.
#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSlider>

namespace relan {

inline QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, bool wrap = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(wrap);
    return l;
}

inline QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text = {}) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

// A labelled edit: the edit and its own label, named after the edit.
inline QLineEdit* MakeLabeledEdit(QWidget* parent, const char* name, const QString& caption, const QString& text,
                                  QLabel** label) {
    QLineEdit* e = MakeEdit(parent, name, text);
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name) + QStringLiteral("EditLabel"));
    l->setBuddy(e);
    l->setWordWrap(true);
    *label = l;
    return e;
}

inline QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, bool checked) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    c->setChecked(checked);
    return c;
}

inline QSlider* MakeTrackBar(QWidget* parent, const char* name, int position) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(0, 100);
    s->setTickInterval(5);
    s->setTickPosition(QSlider::TicksBelow);
    s->setPageStep(5);
    s->setValue(position);
    return s;
}

inline QScrollArea* Scrolled(QWidget* content) {
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return area;
}

}  // namespace relan
