#include "scriptedpresenter.h"

ScriptedPresenter::ScriptedPresenter() {
    msgbox::setPresenter(this);
}

ScriptedPresenter::~ScriptedPresenter() {
    msgbox::setPresenter(nullptr);
}

int ScriptedPresenter::present(const QString& text, int style, const QString& title) {
    boxes_.append({text, style, title});
    return answers_.isEmpty() ? msgbox::Ok : answers_.takeFirst();
}
