// Services of neighbouring modules that the scene binding calls but that may not be linked
// into the engine yet: each is declared weak and skipped while absent.
#pragma once

class _object;
class GSobject;

// Primitive shapes built by the graphics system.
[[gnu::weak]] GSobject *GSobject_newblock(float sx, float sy, float sz, unsigned char, unsigned char);
[[gnu::weak]] GSobject *GSobject_newcone(float height, float radius, int n, unsigned char, unsigned char);
[[gnu::weak]] GSobject *GSobject_newcylinder(float height, float radius, int n, unsigned char, unsigned char, unsigned char);
[[gnu::weak]] GSobject *GSobject_newsphere(float radius, int stacks, int slices, unsigned char, unsigned char, unsigned char);
[[gnu::weak]] GSobject *GSobject_newplane(float w, float h, unsigned char, unsigned char, unsigned char);
[[gnu::weak]] GSobject *GSobject_newhelix(float height, float radius, int samples, float tube, int sides, float turns);
