#include "tests/form/fake_view.h"

#include "texts/text_table.h"
#include "ui/form/accessible_names.h"
#include "ui/form/control_table.h"

#include <algorithm>
#include <stdexcept>

namespace tempik::testing {

FakeView::FakeView(Clock& clock) : clock_(clock)
{
    // As a view builds them: the designed (English) texts, the items and the starting values.
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        Control& control = controls[row.name];
        control.text = shownText(row.name, english);
        control.selected = row.value;
        control.minimum = row.minimum;
        control.maximum = row.limit;
        for (std::string items = row.items ? row.items : ""; !items.empty();) {
            const size_t bar = items.find('|');
            control.items.push_back(items.substr(0, bar));
            items = bar == std::string::npos ? "" : items.substr(bar + 1);
        }
    }
}

FakeView::Control& FakeView::at(const std::string& control)
{
    const auto found = controls.find(control);
    if (found == controls.end())
        throw std::logic_error("the form named no control of the table: " + control);
    return found->second;
}

void FakeView::setItems(const char* control, const std::vector<std::string>& items)
{
    at(control).items = items;
    at(control).selected = -1;
}

void FakeView::select(const char* control, int index)
{
    Control& target = at(control);
    if (std::string(control) == "sbID") {
        // The bar keeps its range and tells its change handler of a new position only.
        index = std::clamp(index, target.minimum, target.maximum);
        if (index == target.selected)
            return;
        target.selected = index;
        form->sbIDChange(index);
        return;
    }
    target.selected = index;
}

void FakeView::focus(const char* control)
{
    at(control);
    if (enabled)
        focused = control;
}

std::optional<std::string> FakeView::chooseFile(const std::string& initialFolder, const std::string& filter)
{
    fileDialogs.push_back(initialFolder + "|" + filter);
    return chosenFile;
}

void FakeView::processEvents()
{
    if (duringEventPass)
        duringEventPass();
    deliverArrivedInput();
}

void FakeView::deliverArrivedInput()
{
    while (!input.empty() && input.front().atMs <= clock_.nowMs()) {
        const std::string button = input.front().button;
        input.pop_front();
        if (enabled)
            form->click(button);
    }
}

void FakeView::discardPendingInput()
{
    while (!input.empty() && input.front().atMs <= clock_.nowMs())
        input.pop_front();
}

void FakeView::runEventLoop()
{
    while (!input.empty()) {
        const uint32_t next = input.front().atMs;
        if (const uint32_t now = clock_.nowMs(); next > now)
            clock_.sleepMs(next - now);
        deliverArrivedInput();
    }
}

} // namespace tempik::testing
