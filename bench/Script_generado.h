// The script the keystroke benchmarks parse and paint: `n` lines laid out on a grid, with
// formulas, macros and transforms. With `comandos` 16 every command of the language comes
// in turn; with 8 only the flat ones (faces, lines, rings, colours, turns), the make-up of
// most hand-written and imported icons.
#pragma once

#include <string>

inline std::string ScriptMixto(int n, int comandos = 16) {
    std::string s = "#define R=0.4\n#define UP=[0,0,1]\nCENTER=[0,0,0]\n";
    for (int i = 0; i < n; ++i) {
        const std::string x = std::to_string(i % 20 - 10) + "*0.5";
        const std::string y = std::to_string(i / 20 % 20 - 10) + "*0.5";
        switch (i % comandos) {
        case 0:
            s += "COLOR=(" + std::to_string(i % 256) + ",128,64)\n";
            break;
        case 1:
            s += "QUAD=[" + x + "," + y + ",0]:[" + x + "+R," + y + ",0]:[" + x + "+R," + y + "+R,0]:[" + x +
                 "," + y + "+R,0]\n";
            break;
        case 2:
            s += "TRIANGLE=[" + x + "," + y + ",1]:[" + x + "+R," + y + ",1]:[" + x + "," + y +
                 "+R*cos(0.3),1]\n";
            break;
        case 3:
            s += "LINE=[" + x + "," + y + ",0]:[" + x + "," + y + ",2]\n";
            break;
        case 4:
            s += "DISK=[" + x + "," + y + ",0.5]:UP:R\n";
            break;
        case 5:
            s += "PUSHTURN=UP|" + std::to_string(i % 360) + "\n";
            break;
        case 6:
            s += "CIRCLE=[" + x + "," + y + ",0.2]:UP:R*2\n";
            break;
        case 7:
            s += "POP\n";
            break;
        case 8:
            s += "CONE=[" + x + "," + y + ",0]:[" + x + "," + y + ",1]:R:0\n";
            break;
        case 9:
            s += "CYLINDER=[" + x + "," + y + ",0]:[" + x + "," + y + ",1]:R\n";
            break;
        case 10:
            s += "SPHERE=[" + x + "," + y + ",1]:R\n";
            break;
        case 11:
            s += "ELIPSOID=[" + x + "," + y + ",1]:[1,0,0]:[0,1,0]:R:R/2:R\n";
            break;
        case 12:
            s += "CUBE=[" + x + "," + y + ",0]:R:0\n";
            break;
        case 13:
            s += "PRISM=[" + x + "," + y + ",0]:[R,R*2,R/2]:0\n";
            break;
        case 14:
            s += "XTRUSION=[" + x + "," + y +
                 ",0]|[-0.2,-0.2,0]:[0.2,-0.2,0]:[0.2,0.2,0]:[-0.2,0.2,0]:[-0.2,-0.2,0]"
                 "|[0,0,0]:1:[0,0,1]:0.5\n";
            break;
        default:
            s += "REVOLUTION=[" + x + "," + y + ",0]|[" + x + "," + y +
                 ",1]|[0.3,0,1]:[0.4,0,0.5]:[0.3,0,0]\n";
            break;
        }
    }
    return s;
}
