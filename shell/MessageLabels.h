#pragma once

#include <span>
#include <string>
#include <string_view>

namespace varnolux {

/// A group box of the language form.
struct TMessageGroup {
    std::string_view name;    // object name
    std::string_view caption; // layout caption
};

/// One message label of the language form.
struct TMessageLabel {
    std::string_view name;  // object name, and the key in the language file
    std::string_view group; // caption of the group box that holds it
    std::string_view text;  // layout text; empty for the core's messages (DefaultMessageText)
};

/// The group boxes of the language form, in layout order.
std::span<const TMessageGroup> MessageGroups();

/// Every message label of the language form, group by group.
std::span<const TMessageLabel> MessageLabels();

/// The layout text of a label: its own text, or the core's text for the core's messages.
std::string LayoutText(const TMessageLabel& label);

} // namespace varnolux
