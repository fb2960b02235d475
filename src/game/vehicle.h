#pragma once
#include <cstdint>

#include "engine/sprite.h"

// What a cannon and a plane share: position and velocity in floating point,
// heading, speed, health, the reload gauge, the damage rule and the status panel.
class Vehicle : public Sprite {
  public:
    Vehicle(ZefDX* owner, int32_t side);

    // The reload step; the vehicles add their own.
    void process() override;
    // The computer opponent's decision step: presses this side's keys.
    virtual void think() = 0;
    // A hit on a vehicle that still has health scores a point for the shooter.
    virtual void takeDamage(int32_t amount);
    // Icons, gauges, points and, when the vehicle is off screen, its picture.
    void drawStatus();

    // The side's controls as held (or hit) in this frame's input.
    bool upHeld() const;
    bool downHeld() const;
    bool leftHeld() const;
    bool rightHeld() const;
    bool fireHit() const;
    // Runs the computer's decision step when this side is played by it.
    void thinkIfComputer();

    int32_t side;
    uint8_t state = 0;  // 0 in action, 1 falling, 2 sunk
    double posX = 0.0;
    double posY = 0.0;
    double vx = 0.0;
    double vy = 0.0;
    double speed = 1.0;
    int32_t health = 100;
    int32_t reload = 100;
    int32_t heading = 0;
    int32_t aimHeading = 0;
    int32_t targetX = 0;
    int32_t targetY = 0;
    int32_t thinkTimer = 0;
    bool attacking = true;
};
