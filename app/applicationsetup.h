#ifndef APPLICATIONSETUP_H
#define APPLICATIONSETUP_H

// What the program sets on its application object before the main window
// exists: name, font and window icon. Shared by the program, the tour and
// the start-up benchmark so that they start alike.
class ApplicationSetup
{
public:
    static void apply();
};

#endif // APPLICATIONSETUP_H
