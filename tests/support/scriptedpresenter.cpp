#include "scriptedpresenter.h"

ScriptedPresenter::ScriptedPresenter() {
    msgbox::setPresenter(this);
}

ScriptedPresenter::~ScriptedPresenter() {
    msgbox::setPresenter(nullptr);
}

int ScriptedPresenter::present(const QString& text, int style, const QString& title) {
    boxes_.append({text, style, title});
    if (whileShown) {
        const Box shown = boxes_.back(); // a box shown meanwhile may grow boxes_
        whileShown(shown);
    }
    return answers_.isEmpty() ? msgbox::Ok : answers_.takeFirst();
}
