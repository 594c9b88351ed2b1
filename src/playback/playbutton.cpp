#include "playback/playbutton.h"

#include "base/pictures.h"
#include "playback/playstate.h"

#include <QToolButton>

QString playStateWord(int state) {
    return state == kPlaying ? kPauseWord : kPlayWord;
}

void setPlayButton(QToolButton& button, const QString& state) {
    if (state == kPlayWord || state == kPauseWord) {
        button.setIcon(QIcon());
        button.setIcon(pictures::load(state == kPlayWord ? pictures::Picture::Play
                                                         : pictures::Picture::AtStop));
        button.setToolTip(state);
    } else {
        button.setText(state);
    }
}
