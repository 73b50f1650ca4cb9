#pragma once
// The open-file dialog for icon files, behind a seam so tests can choose a file or cancel.
#include <optional>
#include <string>

class QWidget;

namespace tempik {

class IconFileChooser {
public:
    virtual ~IconFileChooser() = default;
    // Modal; the full name of the chosen file, or nullopt when the operator cancels.
    virtual std::optional<std::string> chooseIconFile(QWidget* parent, const std::string& initialFolder) = 0;
};

// QFileDialog with the filter "Icon files (*.ico)".
class DialogIconFileChooser final : public IconFileChooser {
public:
    std::optional<std::string> chooseIconFile(QWidget* parent, const std::string& initialFolder) override;
};

} // namespace tempik
