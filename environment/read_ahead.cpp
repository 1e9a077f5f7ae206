#include "environment/read_ahead.h"

#include <kivctrl/gsobject.h>

#include <algorithm>

namespace kiv::env {

ReadAhead::ReadAhead(unsigned threads) : max_threads_(std::max(1u, threads)) {}

ReadAhead::~ReadAhead()
{
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        queue_.clear();
    }
    work_.notify_all();
    for (std::thread &t : threads_)
        t.join();
    for (auto &[key, job] : jobs_) {
        GSobject_delete(job.result.geometry);
        GSobject_delete(job.result.simplified);
    }
}

void ReadAhead::ask(const std::string &file, const Options &options,
                    std::vector<LoaderFactory *> factories)
{
    {
        std::lock_guard lock(mutex_);
        Key key{file, options};
        if (jobs_.count(key))
            return;
        jobs_[key].factories = std::move(factories);
        queue_.push_back(std::move(key));
        if (threads_.size() < max_threads_ && threads_.size() < queue_.size())
            threads_.emplace_back([this] { serve(); });
    }
    work_.notify_one();
}

bool ReadAhead::asked(const std::string &file, const Options &options)
{
    std::lock_guard lock(mutex_);
    return jobs_.count({file, options}) != 0;
}

std::optional<assembly::ParallelRead> ReadAhead::take(const std::string &file,
                                                      const Options &options)
{
    std::unique_lock lock(mutex_);
    const Key key{file, options};
    auto it = jobs_.find(key);
    if (it == jobs_.end())
        return std::nullopt;
    if (it->second.state == State::queued) {
        queue_.erase(std::find(queue_.begin(), queue_.end(), key));
        const std::vector<LoaderFactory *> factories = std::move(it->second.factories);
        jobs_.erase(it);
        lock.unlock();
        return assembly::parallel_read(factories, file.c_str(), options ? options->c_str() : nullptr);
    }
    finished_.wait(lock, [&] { return it->second.state == State::done; });
    assembly::ParallelRead r = std::move(it->second.result);
    jobs_.erase(it);
    return r;
}

std::size_t ReadAhead::outstanding()
{
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

void ReadAhead::serve()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return closing_ || !queue_.empty(); });
        if (queue_.empty())
            return;
        const Key key = queue_.front();
        queue_.pop_front();
        Job &job = jobs_[key];
        job.state = State::reading;
        const std::vector<LoaderFactory *> factories = job.factories;
        lock.unlock();
        assembly::ParallelRead r =
            assembly::parallel_read(factories, key.first.c_str(), key.second ? key.second->c_str() : nullptr);
        lock.lock();
        job.result = std::move(r);  // std::map keeps the job where it is
        job.state = State::done;
        finished_.notify_all();
    }
}

}  // namespace kiv::env
