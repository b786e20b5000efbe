#include "itemwindow/ChromePages.h"

#include <initializer_list>
#include <utility>

namespace quorin::ChromePages {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

using Rule = std::pair<std::string_view, std::string_view>;

// Appends the opening of every page: the style sheet with the background rule first, then
// the body.
void open(std::string& page, std::initializer_list<Rule> rules)
{
    page += "<HTML>\r\n<HEAD>\r\n<STYLE>\r\n";
    page += createStyleRule("Background", "#99ccff");
    page += kLineEnd;
    for (const auto& [className, style] : rules) {
        page += createStyleRule(className, style);
        page += kLineEnd;
    }
    page += "</STYLE>\r\n</HEAD>\r\n<BODY style=\"MARGIN:0px;\" class=\"Background\">\r\n";
}

void line(std::string& page, std::string_view text)
{
    page += text;
    page += kLineEnd;
}

std::string close(std::string page)
{
    page += "</TABLE>\r\n</BODY>\r\n</HTML>\r\n";
    return page;
}

// An edge is one row whose line runs straight into the closing of its table.
std::string edge(std::string_view rowClass, std::string_view cellClass, std::string_view cellStyle)
{
    std::string page;
    open(page, {{rowClass, ""}, {cellClass, cellStyle}});
    line(page, "<TABLE cellspacing=0 cellpadding=0 border=0 height=100%>");
    page += "<TR class=\"" + std::string(rowClass) + "\"><TD class=\"" + std::string(cellClass) + "\"></TD></TR>";
    return close(std::move(page));
}

void buttonCell(std::string& page, std::string_view id, std::string_view caption)
{
    line(page, "<TD class=\"FooterCell\" valign=middle>&nbsp;<Button id=\"" + std::string(id) + "\" class=\"Button\">"
                   + std::string(caption) + "</Button>&nbsp;</TD>");
}

}  // namespace

std::string createStyleRule(std::string_view className, std::string_view style)
{
    return "." + std::string(className) + "{" + std::string(style) + "}";
}

std::string createTitle(std::string_view heading)
{
    std::string page;
    open(page,
         {{"LeftCornerCell", "WIDTH:10px; BACKGROUND-IMAGE:url(Left_cornerhdt.bmp);"},
          {"TitleRow", "HEIGHT: 27px;"},
          {"TitleCell", "BACKGROUND-IMAGE:url(Top_Bar_tilehdt.bmp); BACKGROUND-REPEAT:repeat-x; PADDING-TOP:3px; "
                        "PADDING-LEFT:10px; PADDING-BOTTOM:0px; PADDING-RIGHT:0px; COLOR:white; overflow:hidden;"},
          {"Title", "FONT-FAMILY:'verdana';FONT-SIZE:10pt;"},
          {"RightCornerCell", "WIDTH:10px; BACKGROUND-IMAGE:url(Rt_cornerhdt.bmp);"}});
    line(page, "<TABLE cellspacing=0 cellpadding=0 border=0 width=100%>");
    line(page, "<TR class=\"TitleRow\">");
    line(page, "<TD class=\"LeftCornerCell\"></TD>");
    line(page, "<TD id=\"ItemStemHeading\" class=\"TitleCell\"><SPAN class=\"Title\">" + std::string(heading)
                   + "</SPAN></TD>");
    line(page, "<TD class=\"RightCornerCell\"></TD>");
    line(page, "</TR>");
    return close(std::move(page));
}

std::string createLeftEdge()
{
    return edge("LeftEdgeRow", "LeftEdgeCell",
                "WIDTH:8px; BACKGROUND-IMAGE:url(Left_vert_bar_tilehdt.bmp); BACKGROUND-REPEAT:repeat-y;");
}

std::string createRightEdge()
{
    return edge("RightEdgeRow", "RightEdgeCell",
                "WIDTH:8px; BACKGROUND-IMAGE:url(Rt_vert_bar_tilehdt.bmp); BACKGROUND-REPEAT:repeat-y;");
}

std::string createBottom()
{
    std::string page;
    open(page, {{"BottomLeftCornerCell", "WIDTH:10px; BACKGROUND-IMAGE:url(Lt_Lower_Cornerhdt.bmp);"},
                {"BottomRow", "HEIGHT: 8px;"},
                {"BottomCell", "BACKGROUND-IMAGE:url(Bottom_Tilehdt.bmp); BACKGROUND-REPEAT:repeat-x;"},
                {"BottomRightCornerCell", "WIDTH:10px; BACKGROUND-IMAGE:url(Rt_Lower_Cornerhdt.bmp);"}});
    line(page, "<TABLE cellspacing=0 cellpadding=0 border=0 width=100%>");
    line(page, "<TR class=\"BottomRow\">");
    line(page, "<TD class=\"BottomLeftCornerCell\"></TD>");
    line(page, "<TD id=\"BottomCellholder\" class=\"BottomCell\"><SPAN>. </SPAN></TD>");
    line(page, "<TD class=\"BottomRightCornerCell\"></TD>");
    line(page, "</TR>");
    return close(std::move(page));
}

std::string createButtons(const ButtonBar& bar)
{
    std::string page;
    open(page, {{"FooterRow", "HEIGHT:41px;"},
                {"FooterCell", "BACKGROUND-IMAGE:url(Bottom_bar_tilehdt.bmp); BACKGROUND-REPEAT:repeat-x;"},
                {"Button", "width:97px; height:22px;"},
                {"Highlighting", "BORDER:thin inset white; BACKGROUND:LightGrey"},
                {"NotHighlighting", "BORDER:thin outset white; BACKGROUND:LightGrey"}});
    line(page, "<TABLE cellspacing=0 cellpadding=0 border=0 width=100%>");
    line(page, "<TR class=\"FooterRow\">");
    buttonCell(page, "btnReset", bar.clearAllCaption);
    buttonCell(page, "btnInstructions", bar.instructionsCaption);
    if (bar.calculator)
        buttonCell(page, "btnCalculator", bar.calculatorCaption);
    if (bar.setAnswers)
        buttonCell(page, "btnSetAnswers", "Set Answers");
    line(page, "<TD class=\"FooterCell\" width=100%></TD>");
    line(page, "</TR>");
    return close(std::move(page));
}

}  // namespace quorin::ChromePages
