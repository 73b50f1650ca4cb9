#pragma once
// The edit boxes' input rule, fitsEditBox of reader/control_values.h: no control characters,
// none the current code page lacks, and a limit counted in bytes of that page, so what is shown
// is what is sent and no double-byte character is cut in half. An insertion past the limit
// (a paste) is cut at the limit, at a whole character.
#include <QValidator>

#include <functional>

namespace tempik {

class CodePageValidator final : public QValidator {
    Q_OBJECT
public:
    // language gives the window language whose code page counts the bytes, at every check.
    CodePageValidator(int limitBytes, std::function<int()> language, QObject* parent = nullptr);

    State validate(QString& input, int& position) const override;
    bool fits(const QString& text) const;
    // The longest start of text, in whole characters and without those the box does not
    // take, that fits the limit.
    QString fitted(const QString& text) const;

    int limitBytes() const { return limit_; }

private:
    int limit_;
    std::function<int()> language_;
};

} // namespace tempik
