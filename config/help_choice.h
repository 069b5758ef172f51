// Which help viewer opens the saver's help: WinHelp where the platform still has it.
#pragma once

enum class HelpViewer { WinHelp, HtmlHelp };

// Windows Vista (major version 6) and later ship no WinHelp viewer (for Vista to 8.1 it was a
// separate download, for 10 and 11 there is none); there, and wherever velmora.hlp is
// missing, the HTML Help file is opened instead.
inline HelpViewer ChooseHelpViewer(unsigned long majorVersion, bool winHelpFilePresent)
{
    return majorVersion < 6 && winHelpFilePresent ? HelpViewer::WinHelp : HelpViewer::HtmlHelp;
}
