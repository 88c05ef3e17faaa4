// The segment display: shared pictures, the segment tables, the group operations, the two
// whole-display patterns and the number display.
#include <algorithm>

#include "device/form1.h"

void TForm1::sharePictures()
{
    // Segments that look alike show one picture, copied from the segment the layout names.
    for (size_t copy = 0; copy < components_.size(); ++copy)
        if (const std::string& source = components_[copy].def.pictureOf; !source.empty())
            setPicture(int(copy), components_[size_t(namedComponent(source))].picture);
}

void TForm1::buildTables()
{
    for (int d = 0; d <= 9; ++d)
        DigitImages[size_t(d)] = namedComponent("Im_Num" + std::to_string(d));
    ScoreDigits = {-1, Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4};
    MissMarks = {namedComponent("Im_Miss0"), namedComponent("Im_Miss1"), namedComponent("Im_Miss2"),
                 namedComponent("Im_Miss3")};

    for (auto& column : PackGrid)
        column.fill(-1);
    for (int column = 0; column <= 12; ++column)
        for (int row = 1; row <= (column <= 9 ? 5 : 1); ++row)
            PackGrid[size_t(column)][size_t(row)] = namedComponent(packName(column, row));

    TruckImages = {Im_PackL1, Im_PackL2, Im_PackL3, Im_PackL4, Im_PackL5, Im_PackR1, Im_PackR2, Im_PackR3,
                   Im_PackR4, Im_PackR5, Im_Bus1,   Im_Bus2,   Im_Bus3,   Im_Bus4,   Im_Bus5,   Im_Bus6};
    // The left worker has no placing pose of his own on the top floor: entry 8 stays empty.
    FolkoImages = {Im_Folko1, Im_Folko1A, Im_Folko1B, Im_Folko2, Im_Folko2A, Im_Folko2B, Im_Folko3, Im_Folko3A, -1};
    ZernoImages = {Im_Zerno1, Im_Zerno1A, Im_Zerno1B, Im_Zerno2, Im_Zerno2A,
                   Im_Zerno2B, Im_Zerno3, Im_Zerno3A, Im_Zerno3B};
    MissLeftImages = {Im_MissL1, Im_MissL2, Im_MissL3, Im_MissL4};
    MissRightImages = {Im_MissR1, Im_MissR2, Im_MissR3, Im_MissR4, Im_MissR5};
    CharsOffImages = {Im_FolkoOff1, Im_FolkoOff2, Im_ZernoOff1, Im_ZernoOff2};

    DropImages = {-1,
                  PackGrid[10][1],
                  PackGrid[0][1],
                  PackGrid[9][2],
                  PackGrid[0][3],
                  PackGrid[9][4],
                  PackGrid[0][5]};
}

// The empty (-1) entries of a table are skipped, so whole tables can be switched.
void TForm1::setAllLit(std::span<const int> segments, bool on)
{
    for (int segment : segments)
        setLit(segment, on);
}

void TForm1::MostraPackAll(bool on)
{
    for (const auto& column : PackGrid)
        setAllLit(column, on);
}

void TForm1::MostraPackBusAll(bool on)
{
    setAllLit(std::span<const int>(TruckImages).first(10), on);
}

void TForm1::MostraBusAll(bool on)
{
    setAllLit(std::span<const int>(TruckImages).subspan(10), on);
}

void TForm1::MostraFolkoAll(bool on)
{
    setAllLit(FolkoImages, on);
}

void TForm1::MostraZernoAll(bool on)
{
    setAllLit(ZernoImages, on);
}

void TForm1::MostraSceneAll(bool on)
{
    setAllLit(MissLeftImages, on);
    setAllLit(MissRightImages, on);
}

void TForm1::MostraCharsOffAll(bool on)
{
    setAllLit(CharsOffImages, on);
}

void TForm1::MostraMiss(bool show, int count)
{
    if (!show) {
        setAllLit(MissMarks, false);
        return;
    }
    // Only ever switches marks on: a lower count leaves the marks already lit.
    for (int i = 0; i <= std::min(count, 3); ++i)
        Show(MissMarks[size_t(i)]);
}

void TForm1::showDigit(int position, int digit)
{
    const int source = digit < 0 ? -1 : components_[size_t(DigitImages[size_t(digit)])].picture;
    setPicture(ScoreDigits[size_t(position)], source);
}

std::string TForm1::digitsText() const
{
    std::string text;
    for (int position = 1; position <= 4; ++position) {
        const int digit = digitShown(position);
        text += digit < 0 ? '-' : char('0' + digit);
    }
    return text;
}

int TForm1::digitShown(int position) const
{
    const int picture = components_[size_t(ScoreDigits[size_t(position)])].picture;
    if (picture < 0)
        return -1;
    for (int d = 0; d <= 9; ++d)
        if (components_[size_t(DigitImages[size_t(d)])].picture == picture)
            return d;
    return -1;
}

void TForm1::RiempiSchermo()
{
    switchScreen(true);
}

void TForm1::SvuotaSchermo()
{
    switchScreen(false);
    Show(Im_Bus1);
}

// Every segment on, the digits showing 12:00 in the morning; or every segment off.
void TForm1::switchScreen(bool on)
{
    MostraBusAll(on);
    MostraPackBusAll(on);
    MostraFolkoAll(on);
    MostraPackAll(on);
    MostraZernoAll(on);
    MostraSceneAll(on);
    MostraCharsOffAll(on);
    MostraMiss(on, 3);
    if (on)
        showTwelve();
    else
        for (int position = 1; position <= 4; ++position)
            showDigit(position, -1);
    setLit(Im_TimeAM, on);
    Hide(Im_TimePM);
    setLit(Im_TimePP, on);
    setLit(Im_GameA, on);
    setLit(Im_GameB, on);
}

void TForm1::addScoreStep()
{
    Score = Score + ScoreStep;
    if (Score > 999)
        Score -= 1000;
    TrasformaScore(Score);
}

void TForm1::showAllDigits()
{
    setAllLit(ScoreDigits, true);
}

void TForm1::showTwelve()
{
    showDigit(1, 1);
    showDigit(2, 2);
    showDigit(3, 0);
    showDigit(4, 0);
}

void TForm1::TrasformaScore(int number)
{
    // Only a hand-edited hiscore can be out of range here: it shows as the nearest number the
    // three digits can show, never as a picture that does not exist.
    const int shown = std::clamp(number, 0, 999);
    showDigit(1, -1);
    showDigit(2, shown < 100 ? -1 : shown / 100);
    showDigit(3, shown < 10 ? -1 : (shown / 10) % 10);
    showDigit(4, shown % 10);
}

void TForm1::MostraFolko(bool on)
{
    if (FolkoLevel < 1 || FolkoLevel > 3)
        return;
    if (FolkoLevel == 3) {
        setLit(Im_Folko3, on);
        return;
    }
    // Base and ready pose of floors 1 and 2.
    const size_t base = size_t(FolkoLevel - 1) * 3;
    setLit(FolkoImages[base], on);
    setLit(FolkoImages[base + 1], on);
}

void TForm1::MostraZerno(bool on)
{
    if (ZernoLevel < 1 || ZernoLevel > 3)
        return;
    const size_t base = size_t(ZernoLevel - 1) * 3;
    setLit(ZernoImages[base], on);
    setLit(ZernoImages[base + 1], on);
}

int TForm1::packageCount() const
{
    int count = 0;
    for (const auto& column : PackGrid)
        for (int cell : column)
            if (isLit(cell))
                ++count;
    return count;
}
