#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/base/IDestructor.h"
#include "core/base/IObject.h"
#include "core/col/_array/ArrayP.h"
#include "core/thread/EasyPooler.h"

namespace s::map {

// Bucket counts by prime index; a table never grows past the last.
constexpr uint32_t PRIMES[] = {211,     431,     863,      1733,     3467,     6947,     13901,
                               27803,   55609,   111227,   222461,   444929,   889871,   1779761,
                               3559537, 7119103, 14238221, 28476473, 56952947, 113905901};
constexpr int32_t LAST_PRIME_INDEX = 19;

// The chained hash buckets shared by Map and MapTable. Node is a plain record whose
// first fields are hash, key and whose last is next; nodes come from a pool of
// 10000 zeroed records per node type.
template <class Node>
class HashChains {
public:
    HashChains() : buckets_(new col::_array::ArrayP()), primeIndex_(0), count_(0) {}
    ~HashChains() {
        delete buckets_;
    }
    HashChains(const HashChains&) = delete;
    HashChains& operator=(const HashChains&) = delete;

    static thread::EasyPooler& nodePool() {
        static thread::EasyPooler* const pool = new thread::EasyPooler(10000, &createNode, &std::free, &zeroNode);
        return *pool;
    }

    uint32_t count() const { return count_; }
    int32_t primeIndex() const { return primeIndex_; }
    uint32_t bucketCount() const { return buckets_->count(); }
    Node** heads() const { return reinterpret_cast<Node**>(buckets_->slots()); }

    // The link holding the key, or the empty link at the end of its chain; null while
    // no buckets exist (or for a null key).
    Node** findSlot(uint32_t hash, const base::IObject* key, bool ignoreCase) const {
        const uint32_t n = bucketCount();
        if (n == 0 || key == nullptr) {
            return nullptr;
        }
        Node** link = &heads()[hash % n];
        while (*link != nullptr) {
            Node* node = *link;
            if (node->hash == hash &&
                (ignoreCase ? key->equalsIgnoreCase(node->key) : key->equals(node->key))) {
                return link;
            }
            link = &node->next;
        }
        return link;
    }

    // Makes room for one more entry: the first buckets, or the next prime once the
    // count reaches half the bucket count. False when no buckets can be had.
    bool prepareInsert() {
        if (bucketCount() == 0) {
            return allocate(*buckets_, PRIMES[primeIndex_]);
        }
        if (count_ >= PRIMES[primeIndex_] / 2) {
            rehash(primeIndex_ + 1);  // a failed rehash keeps the old buckets
        }
        return true;
    }

    // Adds a node for a key not yet present, with its hash and key set; null when the
    // key is null or already present, or no buckets or node can be had.
    Node* insertKey(uint32_t hash, base::IObject* key, bool ignoreCase) {
        if (key == nullptr || !prepareInsert()) {
            return nullptr;
        }
        Node** slot = findSlot(hash, key, ignoreCase);
        if (*slot != nullptr) {
            return nullptr;
        }
        Node* node = static_cast<Node*>(nodePool().acquire());
        if (node == nullptr) {
            return nullptr;
        }
        node->hash = hash;
        node->key = key;
        *slot = node;
        ++count_;
        return node;
    }

    // Re-links every node, in bucket and chain order, at the end of its chain for the
    // prime of index k (clamped to the ladder). Keeps the old buckets when the new ones
    // cannot be had.
    void rehash(int32_t k) {
        if (k > LAST_PRIME_INDEX) {
            k = LAST_PRIME_INDEX;
        }
        if (k < 0) {
            k = 0;  // an index below the ladder would read before its first prime
        }
        if (bucketCount() == 0) {
            primeIndex_ = k;
            allocate(*buckets_, PRIMES[k]);
            return;
        }
        if (primeIndex_ == LAST_PRIME_INDEX || primeIndex_ >= k) {
            return;
        }
        col::_array::ArrayP* fresh = new (std::nothrow) col::_array::ArrayP();
        if (fresh == nullptr || !allocate(*fresh, PRIMES[k])) {
            delete fresh;
            return;
        }
        const uint32_t prime = PRIMES[k];
        Node** newHeads = reinterpret_cast<Node**>(fresh->slots());
        Node** oldHeads = heads();
        const uint32_t oldCount = bucketCount();
        for (uint32_t b = 0; b < oldCount; ++b) {
            Node* node = oldHeads[b];
            while (node != nullptr) {
                Node* next = node->next;
                node->next = nullptr;
                Node** end = &newHeads[node->hash % prime];
                while (*end != nullptr) {
                    end = &(*end)->next;
                }
                *end = node;
                node = next;
            }
        }
        delete buckets_;
        buckets_ = fresh;
        primeIndex_ = k;
    }

    // Removes every node: calls dispose(node) on each, then either gives it back to
    // the node pool or frees it; the buckets stay (emptied).
    template <class DisposeFn>
    void removeAll(DisposeFn dispose, bool toPool) {
        const uint32_t n = bucketCount();
        Node** h = heads();
        for (uint32_t b = 0; b < n; ++b) {
            Node* node = h[b];
            h[b] = nullptr;
            while (node != nullptr) {
                Node* next = node->next;
                dispose(node);
                if (toPool) {
                    nodePool().release(node);
                } else {
                    std::free(node);
                }
                node = next;
            }
        }
        count_ = 0;
    }

    // Frees the bucket storage and starts again from the first prime.
    void freeBuckets() {
        buckets_->freeStorage();
        primeIndex_ = 0;
        count_ = 0;
    }

private:
    static void* createNode() { return std::calloc(1, sizeof(Node)); }
    static void zeroNode(void* node) { std::memset(node, 0, sizeof(Node)); }

    static bool allocate(col::_array::ArrayP& buckets, uint32_t n) {
        if (!buckets.setCount(n)) {
            return false;
        }
        std::memset(buckets.slots(), 0, static_cast<size_t>(n) * sizeof(void*));
        return true;
    }

    col::_array::ArrayP* buckets_;
    int32_t primeIndex_;
    uint32_t count_;
};

} // namespace s::map
