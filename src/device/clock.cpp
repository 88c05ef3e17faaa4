// Clock mode: TIME shows the alarm time while held and starts the clock on release.
#include "device/form1.h"

void TForm1::Puls_TimeMouseDown(MouseButton button)
{
    if (button != MouseButton::Left)
        return;
    Hide(Puls_Time);
    if (GameRunning)
        return;
    BloccaTimers();
    if (GameMode != ModeClock)
        SvuotaSchermo();
    Show(Im_TimePP);
    Hide(Im_TimeAM);
    Show(Im_TimePM);
    // The alarm is fixed at 12:00 PM.
    showTwelve();
}

void TForm1::Puls_TimeMouseUp(MouseButton button)
{
    if (button != MouseButton::Left)
        return;
    Show(Puls_Time);
    if (GameRunning)
        return;
    // As for the game buttons: a press held through the end of a game left its animation running.
    TimerOver.setEnabled(false);
    GameMode = ModeClock;
    TimerClock.setInterval(1);
    TimerClock.setEnabled(true);
}

void TForm1::TimerClockTimer()
{
    // The first tick after a start comes after 1 ms so that the time shows at once.
    TimerClock.setInterval(1000);
    const TimeOfDay now = ports_.clock->localTime();
    int hour = now.hour;
    const int minute = now.minute;
    if (hour <= 11) {
        Show(Im_TimeAM);
        Hide(Im_TimePM);
    } else {
        hour -= 12;
        Show(Im_TimePM);
        Hide(Im_TimeAM);
    }
    // Midnight and noon show as 12.
    showDigit(1, hour == 0 || hour >= 10 ? 1 : -1);
    showDigit(2, hour == 0 ? 2 : hour % 10);
    showDigit(3, minute / 10);
    showDigit(4, minute % 10);
}
