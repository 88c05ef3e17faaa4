// Game control: the ACL, GAME A and GAME B buttons, preparing a game and stopping every timer.
#include "device/form1.h"

void TForm1::PreparaGioco()
{
    GameRunning = true;
    FolkoFree = true;
    ZernoFree = true;
    Score = 0;
    TrasformaScore(Score);
    ScoreStep = 1;
    TruckLoad = 0;
    MissCount = 0;
    DoubleScore = false;
    TruckStep = 0;
    BonusStep = 0;
    TickPhase = 1;
    TimerGioco.setEnabled(true);
}

void TForm1::BloccaTimers()
{
    for (Timer* timer : timers())
        timer->setEnabled(false);
    // A stop may catch the double-score blink with the digits hidden.
    showAllDigits();
}

void TForm1::Puls_ACLMouseDown(MouseButton button)
{
    if (button != MouseButton::Left)
        return;
    BloccaTimers();
}

void TForm1::Puls_ACLMouseUp(MouseButton button)
{
    if (button != MouseButton::Left)
        return;
    RiempiSchermo();
    BloccaTimers();
    Silenzio();
    GameMode = ModeReset;
    FolkoFree = false;
    ZernoFree = false;
    GameRunning = false;
}

void TForm1::gameButtonDown(MouseButton mouseButton, int button, int mark, int& hiscore)
{
    if (mouseButton != MouseButton::Left)
        return;
    Hide(button);
    if (GameRunning)
        return;
    BloccaTimers();
    SvuotaSchermo();
    Show(mark);
    TrasformaScore(hiscore);
    FolkoLevel = 1;
    MostraFolko(true);
    ZernoLevel = 2;
    MostraZerno(true);
}

void TForm1::gameButtonUp(MouseButton mouseButton, int button, int mode, int firstInterval)
{
    if (mouseButton != MouseButton::Left)
        return;
    Show(button);
    if (GameRunning)
        return;
    // A press held while the last miss ended the game found it still running and stopped
    // nothing: the game-over animation must not run on into the new game, where its end would
    // empty the screen and switch the belt to the clock's mode.
    TimerOver.setEnabled(false);
    GameMode = mode;
    PreparaGioco();
    TimerGioco.setInterval(firstInterval);
}

void TForm1::Puls_GameAMouseDown(MouseButton button)
{
    gameButtonDown(button, Puls_GameA, Im_GameA, HiscoreA);
}

void TForm1::Puls_GameAMouseUp(MouseButton button)
{
    // The first tick of a game comes after the interval of the first hundred's second band.
    gameButtonUp(button, Puls_GameA, ModeGameA, LevelTable[ModeGameA][0][1].interval);
}

void TForm1::Puls_GameBMouseDown(MouseButton button)
{
    gameButtonDown(button, Puls_GameB, Im_GameB, HiscoreB);
}

void TForm1::Puls_GameBMouseUp(MouseButton button)
{
    gameButtonUp(button, Puls_GameB, ModeGameB, LevelTable[ModeGameB][0][1].interval);
}
