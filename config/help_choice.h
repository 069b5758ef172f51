// Which help viewer opens the saver's help: WinHelp where the platform still has it.
#pragma once

enum class HelpViewer { WinHelp, HtmlHelp };

// Windows 10 (major version 10) and later no longer include the WinHelp viewer; there, and
// wherever velmora.hlp is missing, the HTML Help file is opened instead.
inline HelpViewer ChooseHelpViewer(unsigned long majorVersion, bool winHelpFilePresent)
{
    return majorVersion < 10 && winHelpFilePresent ? HelpViewer::WinHelp : HelpViewer::HtmlHelp;
}
