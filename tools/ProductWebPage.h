#pragma once

namespace varnolux {

/// The product web page, opened from the Help menu and the about box.
inline constexpr const char* ProductWebPageAddress = "https://varnolux.invalid/";

} // namespace varnolux
