#pragma once

// One vectorscope point: its left and right sample and its age weight (1 when captured).
struct ScopePoint
{
    float l = 0.0f;
    float r = 0.0f;
    float alpha = 1.0f;
};
