// Behaviour tasks attached to objects.
#pragma once

class _object;
class _task;

// Deletes the task if it is in the owner's task list (with an owner). Returns 0.
int task_delete(_object *owner, _task *t);
