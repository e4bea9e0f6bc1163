// Riots: the owner of a restless province pays 30 Gold to calm the crowd or
// lets the riot run its course. Draws nothing and ends no turn.
#include "kv_model.h"

#include <algorithm>

std::string TGame::ResolveRiot(int64_t PID, bool Pay) {
  TJson* Pr = P(PID);
  if (!B(Pr, "riot")) return "There is no riot here.";
  if (Pay && N(Pr, "gold") < 30) return "The treasury cannot afford 30 Gold.";
  const std::string Province = S(Pr, "name");
  std::string Message;
  if (Pay) {
    Put(Pr, "gold", N(Pr, "gold") - 30);
    Put(Pr, "support", std::min<int64_t>(N(Pr, "support") + 3, 100));
    Message = "The unrest in " + Province + " ends peacefully.";
  } else {
    Put(Pr, "support", std::max<int64_t>(N(Pr, "support") - 10, 0));
    Put(Pr, "gold", N(Pr, "gold") - N(Pr, "gold") / 5);
    Put(Pr, "food", N(Pr, "food") - N(Pr, "food") / 5);
    if (TJson* Governor = C(N(Pr, "governor"))) Put(Governor, "body", std::max<int64_t>(N(Governor, "body") - 15, 0));
    Message = "Riot in " + Province + ": Support -10, Gold/Food -20%, governor Body -15.";
  }
  Put(Pr, "riot", false);
  Note(Message);
  return Message;
}
