function blocks = column_blocks(n, count)
% COLUMN_BLOCKS  Columns 1..n in COUNT contiguous blocks of nearly equal
% size (no empty ones), as a cell of index ranges.
  count = max(min(count, n), 1);
  edges = round(linspace(0, n, count + 1));
  blocks = arrayfun(@(b) edges(b) + 1:edges(b + 1), 1:count, 'UniformOutput', false);
end
