#pragma once

#include <QMetaType>

// A 2D point with the angle (degrees) by which the chart turns its marker.
// The angle travels with the newest value only, never with the track.
struct ScatterValue
{
    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
};
Q_DECLARE_METATYPE(ScatterValue)

// A 3D point (x, y, z) with three Euler angles in degrees used as roll,
// pitch and yaw of its marker.
struct Scatter3DValue
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float a = 0.0f; // roll
    float b = 0.0f; // pitch
    float c = 0.0f; // yaw
};
Q_DECLARE_METATYPE(Scatter3DValue)
