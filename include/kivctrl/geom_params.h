// The parameters of a primitive shape, kept in an object's variables under "_GEOM_PARAMS".
#pragma once

struct _geom_params {
    int kind = 0;  // 1 box, 2 cone, 3 cylinder, 4 sphere, 5 helix, 6 plane
    int segments = 10;
    int segments2 = 10;
    float p[9] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
};
