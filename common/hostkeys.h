#ifndef HOSTKEYS_H
#define HOSTKEYS_H

// The hardware keys as the head unit's host delivers them: QKeyEvent key codes
// of its own key map, outside Qt's named keys, in three groups (0x0110xxxx,
// 0x0120xxxx and 0x0140xxxx). Each screen handles its own selection of them,
// and the screens do not agree on every key: the confirmation screen turns the
// knob the other way round.
namespace HostKey {
enum Code : int {
    Back = 0x0110002A,
    Previous = 0x0110003D,
    Next = 0x0110003E,
    Left = 0x0110003F,
    Right = 0x01100040,
    Ok = 0x01100041,
    KnobForward = 0x0110004D,
    KnobBackward = 0x0110004E,
    Cancel = 0x01200026,
    Select = 0x01400009,
    Up = 0x0140000A,
    Down = 0x0140000B,
    PagePrevious = 0x0140000C,
    PageNext = 0x0140000D,
    Return = 0x0140000F,
    Exit = 0x0140004B
};
} // namespace HostKey

#endif // HOSTKEYS_H
