#pragma once
// What the strategy-objects page and the object editor hand to each other. IP and MAC
// objects travel as one record; application, registry and device objects as a chain
// of heap nodes, each one table row, which either side may delete with plain delete.
// The live counts let a caller check that every node it was given has gone.
#include <string>

struct ObjectRecord {
  std::wstring name;
  std::wstring content;  // the entries joined by ";"
  std::wstring explain;
  std::wstring creator;
  std::wstring createTime;
  std::wstring modifyTime;
  int number = -1;  // IpNo or MacNo
};

struct ServiceObjectRecord {
  std::wstring name;
  std::wstring icmp;  // entries "type-code", separated by blanks
  std::wstring tcp;   // port entries separated by blanks
  std::wstring udp;
  std::wstring explain;
  std::wstring creator;
  std::wstring createTime;
  std::wstring modifyTime;
  int number = -1;  // SeverNo
};

// Counts the live objects of the node type that derives from it.
template <class T>
class LiveCount {
 public:
  static int Live() { return s_live; }

 protected:
  LiveCount() { ++s_live; }
  LiveCount(const LiveCount&) { ++s_live; }
  LiveCount& operator=(const LiveCount&) = default;
  ~LiveCount() { --s_live; }

 private:
  static inline int s_live = 0;
};

struct ClientObjectNode : LiveCount<ClientObjectNode> {
  std::wstring name;
  std::wstring clientIp;    // dotted IPv4
  std::wstring clientName;  // shown by the editor, not stored
  std::wstring path;
  std::wstring explain;
  std::wstring creator;
  std::wstring createTime;
  std::wstring modifyTime;
  int number = -1;  // -1 until stored
  ClientObjectNode* next = nullptr;
};

struct DeviceObjectNode : LiveCount<DeviceObjectNode> {
  std::wstring name;
  std::wstring queryOrder;
  std::wstring manageOrder;
  std::wstring explain;
  std::wstring creator;
  std::wstring createTime;
  std::wstring modifyTime;
  int number = -1;
  DeviceObjectNode* next = nullptr;
};

// Deletes a chain from its head (null allowed).
template <class Node>
void FreeObjectChain(Node* head) {
  while (head) {
    Node* next = head->next;
    delete head;
    head = next;
  }
}
