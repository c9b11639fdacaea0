// The higher layer of the tree that breaks its layer order.
#pragma once
