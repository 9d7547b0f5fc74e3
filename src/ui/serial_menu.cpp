#include "ui/serial_menu.h"

#include "core/text.h"

namespace mrw {

std::vector<PortEntry> MenuPorts(std::vector<PortEntry> ports) {
    std::vector<PortEntry> list;
    for (auto& port : ports) {
        if (port.number > 0) {
            list.push_back(std::move(port));
        }
    }
    const int n = static_cast<int>(list.size());
    for (int gap = n / 2; gap > 0; gap /= 2) {
        for (int i = gap; i < n; ++i) {
            for (int j = i - gap; j >= 0 && list[j].number > list[j + gap].number; j -= gap) {
                std::swap(list[j], list[j + gap]);
            }
        }
    }
    if (list.size() > static_cast<size_t>(kSerialMenuEntries)) {
        list.resize(kSerialMenuEntries);
    }
    return list;
}

std::string PortCaption(const PortEntry& port) {
    std::string caption = "COM " + std::to_string(port.number);
    if (!port.device.empty()) {
        caption += "  (" + port.device + ")";
    }
    return caption;
}

std::optional<int> PortNumberOfCaption(const std::string& caption) {
    const std::vector<std::string> parts = Split(caption, " ");
    if (parts.size() < 2) {
        return std::nullopt;
    }
    return static_cast<int>(Val(parts[1]));
}

}  // namespace mrw
