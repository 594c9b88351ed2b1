#include "playback/seekslider.h"

#include <QProxyStyle>
#include <QSlider>

namespace {

class SeekStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void makeSeekSlider(QSlider& slider, std::function<void(int)> seek) {
    auto* style = new SeekStyle;
    style->setParent(&slider);
    slider.setStyle(style);
    QObject::connect(&slider, &QSlider::sliderReleased, &slider,
                     [&slider, seek] { seek(slider.value()); });
    // Keys and wheel steps; a drag is seeked once, when it is let go.
    QObject::connect(&slider, &QSlider::actionTriggered, &slider, [&slider, seek](int action) {
        if (action != QAbstractSlider::SliderMove && action != QAbstractSlider::SliderNoAction &&
            !slider.isSliderDown())
            seek(slider.sliderPosition());
    });
}
