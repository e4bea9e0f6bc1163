// The catalogue of orders: their kinds and display names.
#include "kv_model.h"

const char* const OrderNames[OrderCount] = {
    "Rest", "Travel", "Settle", "Recruit", "Cultivate", "Flood control", "Construction", "Hunt",
    "Solicit", "Train troops", "Hire soldiers", "Give citizens", "Reward follower", "Feast",
    "Swear oath", "Dismiss", "Make ship", "Make weapons", "Move people", "Send provisions",
    "Treaty", "Invite fellowship", "Town travel", "Buy food", "Sell food", "Buy fur", "Sell fur",
    "Buy arms", "Buy ship", "Beast expedition", "War", "Reconnaissance", "Redistribute troops",
    "Assign ship", "Appoint governor", "Governor policy", "Abandon realm", "Retire", "Divination",
    "Rumors",
};

TCommand Command(TOrder K, int32_t Actor, int32_t Target, int32_t Amount, int32_t Extra) {
  return TCommand{K, Actor, Target, Amount, Extra};
}
