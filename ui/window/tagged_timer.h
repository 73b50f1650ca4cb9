#pragma once
// tmrBusy's kind: a timer that carries a Tag, as the control table gives it.
#include <QTimer>

namespace tempik {

// tmrBusy: the blink timer; its Tag holds the blink phase.
class TaggedTimer final : public QTimer {
    Q_OBJECT
public:
    using QTimer::QTimer;
    int Tag = 0;
};

} // namespace tempik
